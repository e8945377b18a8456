#pragma once

#include "operatingstate.h"

#include <QString>
#include <QStringList>

#include <span>

// The three lists of the main window's navigation area and when each item may open.
enum class NavTab { EditDatabase = 0, Reports = 1, Communication = 2 };

enum class NavGate {
    AnyButNone,         // refused with a message while no database is loaded and no register online
    Always,             // every state
    Online,             // states 2 and 3; otherwise nothing happens
    OnlineWithDatabase, // state 3 only; otherwise nothing happens
};

struct NavItem {
    const char16_t* text;  // the list line, as the user sees it
    const char* formClass; // the form it opens
    NavGate gate;
    bool refreshAfter; // the main window refreshes its status when the form closes
};

std::span<const NavItem> navigationItems(NavTab tab);
QString navigationTabTitle(NavTab tab);
QStringList navigationTexts(NavTab tab);

inline const QString NoDatabaseMessage = QStringLiteral(
    "Stwórz lub wczytaj z pliku bazę danych którą chcesz edytować, albo połącz się z kasą");

enum class NavAction { Open, Refuse, Ignore };
struct NavDecision {
    NavAction action = NavAction::Ignore;
    QString message; // for Refuse
};

// What choosing item `index` of `tab` does in `state`; an index out of range is ignored.
NavDecision navigationDecision(NavTab tab, int index, OperatingState state);
