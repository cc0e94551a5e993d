#pragma once

#include <QAction>
#include <QMenuBar>
#include <map>

namespace melovantis {

// Builds the main window's menu bar: File, Edit, View, Conversion, Settings,
// Tools and Help with their items in order. Each action carries its command
// identity as its data; the result maps identities to actions.
std::map<int, QAction*> buildMainMenu(QMenuBar& bar);

}  // namespace melovantis
