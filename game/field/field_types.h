#pragma once

namespace kq {

/// Registers the field group: the seven field and game enums (`Item::Form`,
/// `Vimu::TrembleType`, `Bonus`, `Field::BonusEnd`, `GameState`, `IdolMood`, `Condition`)
/// with their value names, in that order, then the idols (`Idol`, `CreationIdol`), the class
/// `Item` and the field objects made from it (`Vimu`, `Fireball`). Runs after the art types;
/// later calls do nothing.
void register_field_types();

}
