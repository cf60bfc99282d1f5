#pragma once

#include <cstdint>

#include "engine/base/application.h"

namespace kq {

class APIWindow;
class UI;

/// The game's application: the product "Vimo" of "KQ", version "1.3.2".
class Vimo : public Application
{
public:
    /// The application with the game's names and version.
    Vimo();

    /// The base start, then the game's services in their order.
    void start() override;
    /// The game's services stopped in reverse order, then the base shutdown.
    void shutdown() override;

    /// The window service while it runs; null before the start.
    APIWindow* window() const { return m_window; }

    /// The UI service while it runs; null before the start.
    UI* ui() const { return m_ui; }

private:
    APIWindow* m_window = nullptr;
    UI* m_ui = nullptr;
};

}
