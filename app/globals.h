// SPDX-License-Identifier: MIT
#pragma once
// The three global objects of the program. They are defined in one source file
// (globals.cpp), in this order, so that they are constructed in this order and
// destroyed in the reverse one: the catalogue first, the application object last.
class CLumoApp;
class CGameEnvironment;
class CLgpArchive;

extern CLumoApp theApp;                  // the application object
extern CGameEnvironment theEnvironment;  // looks up the game data folder when constructed
extern CLgpArchive theArchive;           // the catalogue of the open archive
