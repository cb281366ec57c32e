#pragma once
// The command route: a list of command targets asked in order (active child frame, main
// frame, application), the first table with an entry winning.
#include <initializer_list>

#include "framework/command_target.h"

using CommandRoute = std::initializer_list<CCmdTarget*>;

// Offers the query to each target on the route (null ones are skipped); true when one
// of them had a matching entry.
bool RouteCommand(CommandRoute route, int id, CommandQuery query, CCmdUI* ui);

// The update pass for one command: an update handler anywhere on the route decides;
// otherwise the command is enabled exactly when some table on the route handles it.
void UpdateCommandOnRoute(CommandRoute route, CCmdUI& ui);
