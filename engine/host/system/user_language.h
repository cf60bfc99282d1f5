#pragma once

namespace kq::host {

/// The user's interface language as an index: 1 English, 2 Russian, Ukrainian or Belarusian,
/// 3 Danish, 4 Spanish, 5 French, 6 German, 7 Italian, 8 Japanese, 9 Dutch, 10 Portuguese,
/// 11 Swedish, 0 any other or none. Taken from the first set of LC_ALL, LC_MESSAGES and LANG.
int get_user_language();

/// The index of a POSIX locale name ("de_DE.UTF-8", "pt", "C"), as `get_user_language`.
int language_index_of_locale(const char* locale);

}
