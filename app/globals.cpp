// SPDX-License-Identifier: MIT
// The only definitions of the global objects; their order here is their construction
// order.
#include "app/globals.h"

#include "app/lumo_app.h"
#include "archive/lgp_archive.h"
#include "environment/game_environment.h"

CLumoApp theApp;
CGameEnvironment theEnvironment;
CLgpArchive theArchive;
