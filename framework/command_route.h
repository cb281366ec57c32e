// SPDX-License-Identifier: MIT
#pragma once
// The command route: a list of command targets asked in order, the first table with an
// entry winning. The program's route is the active entry window, the main frame, the
// open archive's document, then the application (CommandRouteTargets).
#include <initializer_list>

#include "framework/command_target.h"

using CommandRoute = std::initializer_list<CCmdTarget*>;

// Offers the query to each target on the route (null ones are skipped); true when one
// of them had a matching entry.
bool RouteCommand(CommandRoute route, int id, CommandQuery query, CCmdUI* ui);

// The update pass for one command: an update handler anywhere on the route decides;
// otherwise the command is enabled exactly when some table on the route handles it.
void UpdateCommandOnRoute(CommandRoute route, CCmdUI& ui);

// The program's route, in the order it is asked; any of them may be null.
struct CommandRouteTargets {
    CCmdTarget* activeChild = nullptr;
    CCmdTarget* frame = nullptr;
    CCmdTarget* document = nullptr;
    CCmdTarget* app = nullptr;
};

bool RouteCommand(const CommandRouteTargets& targets, int id, CommandQuery query, CCmdUI* ui);
void UpdateCommandOnRoute(const CommandRouteTargets& targets, CCmdUI& ui);
