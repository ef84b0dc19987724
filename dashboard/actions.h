// dashboard/actions.h - the option switches of the Dashboard's buttons: stereo,
// shadows, the user's lamp, reflection, display scale and the home position. The
// buttons call these; so does `tarne render` for its options.
//
// Writes: the Viewer's stereo and shadow flags and buffers, the instance's display
// scale, lamp flag and lamp rows, the renderer's reflection flag, the light tables,
// the camera.
// Failure: a switch whose memory cannot be had leaves its flag as it was and answers
// false.
#pragma once

#include "render/render.h"
#include "viewer/viewer_window.h"
#include "world/tables.h"

bool toggleStereo(World& world, RenderState& render, ViewerWindow& viewer);
bool toggleShadows(World& world, RenderState& render, ViewerWindow& viewer);
// On: a spot light at the eye point, pointing along the view (straight down when the
// eye is on its target), fall-off 0.05, cone 1/6; its rows are kept in `options`.
// Off: exactly those rows are removed, the later rows moving down (the rows other
// instances' lamps remember with them).
bool toggleLamp(World& world, InstanceOptions& options);
// Switches the instance's lamp off if it is on (its instance is going).
void switchLampOff(World& world, InstanceOptions& options);
// Every lamp's rows went with the tables (a world is read into them): every lamp of
// every instance is off.
void forgetLamps();
void toggleReflection(RenderState& render);
// 1.0 -> 2.0, anything else -> 1.0; the Viewer then renders at its client size / scale.
bool toggleDisplayScale(InstanceOptions& options, ViewerWindow& viewer);
// Puts the camera back where the world put it: eye, target and roll.
void goHome(World& world);
