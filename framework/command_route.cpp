// SPDX-License-Identifier: MIT
#include "framework/command_route.h"

bool RouteCommand(CommandRoute route, int id, CommandQuery query, CCmdUI* ui) {
    for (CCmdTarget* target : route) {
        if (target && target->OnCmdMsg(id, query, ui)) {
            return true;
        }
    }
    return false;
}

void UpdateCommandOnRoute(CommandRoute route, CCmdUI& ui) {
    if (!RouteCommand(route, ui.m_nID, CommandQuery::UpdateHandler, &ui)) {
        ui.Enable(RouteCommand(route, ui.m_nID, CommandQuery::HasHandler, nullptr));
    }
}

bool RouteCommand(const CommandRouteTargets& targets, int id, CommandQuery query, CCmdUI* ui) {
    return RouteCommand({targets.activeChild, targets.frame, targets.document, targets.app}, id,
                        query, ui);
}

void UpdateCommandOnRoute(const CommandRouteTargets& targets, CCmdUI& ui) {
    UpdateCommandOnRoute({targets.activeChild, targets.frame, targets.document, targets.app}, ui);
}
