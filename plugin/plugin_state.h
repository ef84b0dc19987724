// plugin/plugin_state.h - the plug-in library's global state: one world per library
// lifetime, shared by every instance, and the tables exchanged with the browser.
//
// Owns: the World, the RenderState, the browser and plug-in function tables, the
// current instance, the module handle of the library's resources. Everything else reaches the world
// through the references handed down from here.
#pragma once

#include "plugin/api/npapi.h"
#include "render/render.h"
#include "world/tables.h"

#include <windows.h>

class PluginWindow;

struct PluginState {
    NPNetscapeFuncs* browserFuncs = nullptr; // kept by NP_Initialize, forgotten by NP_Shutdown
    NPPluginFuncs* pluginFuncs = nullptr;    // kept by NP_GetEntryPoints
    PluginWindow* currentInstance = nullptr; // the instance the browser called last
    HINSTANCE module = nullptr;              // the library's resources (the Dashboard's bitmaps)
    bool initialised = false;                // NPP_Initialize has run
    bool worldLoaded = false;                // a world was read since the tables were made
    World world;
    RenderState render;
};

PluginState& pluginState();
