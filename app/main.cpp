#include "game/shell/app/start_up.h"
#include "game/shell/app/vimo.h"

int main()
{
    kq::register_game_start_up();
    kq::Vimo vimo;
    return vimo.run();
}
