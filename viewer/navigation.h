// viewer/navigation.h - mouse navigation: what a drag sets, what every frame does with
// it to the camera, the user's lamp, and the seek towards a clicked surface.
//
// Owns: NavigationState (one per Viewer): the mode, the drag, the seek and the motion
// amounts. The mode lives here and nowhere else; the Dashboard and the host's start-up
// choice set it through chooseNavigationMode.
// Reads: the World's objectCount and objectBounds (the orbit centre); the view matrix,
// its eye, the screen centre and the aspect ratio of the last frame (RenderState); the
// render size and depth buffer of the frame drawn (FrameState).
// Writes: the World's camera (eye, target, roll, view angle) and the lamp: the last row
// of spotLights while the lamp flag is 1.
// Entry points: chooseNavigationMode, setMotionAmounts, stopMotion, dragLamp,
//               pickSeekTarget, applyNavigationFrame, moveCamera, moveLamp.
// Failure: nothing is reported. A click outside the frame or where nothing was drawn
// starts no seek; the lamp stays put while no world is loaded or no lamp row exists; an
// orbit about a world whose bounds are not finite leaves the camera alone. No float
// reaches an integer without being clamped first.
#pragma once

#include "render/render.h"
#include "world/tables.h"

// The navigation modes, as the Dashboard's buttons number them.
constexpr i16 kModeRoll = 0;
constexpr i16 kModeZoom = 1;
constexpr i16 kModeLookAround = 2;
constexpr i16 kModeFly = 3;
constexpr i16 kModeWalk = 4;
constexpr i16 kModeSlide = 5;
constexpr i16 kModeOrbit = 6;
constexpr i16 kModeSeek = 7;
constexpr i16 kModeCount = 8;

// The motion codes: what one step with an amount does to the camera (and, for codes 1
// to 7, to the lamp). Amounts are world units for the moves, radians for the turns.
constexpr i16 kMoveForward = 1;    // along F
constexpr i16 kMoveUp = 2;         // along U
constexpr i16 kMoveSideways = 3;   // against L in the horizontal plane: positive is right
constexpr i16 kOrbitAboutUp = 4;   // the eye about the world centre, in the view's x-y plane
constexpr i16 kOrbitAboutLeft = 5; // the same in the view's x-z plane
constexpr i16 kTurn = 6;           // the target about the eye, x-y plane: positive is left
constexpr i16 kPitch = 7;          // the target about the eye, x-z plane: positive is up
constexpr i16 kSeekStep = 8;       // eye and target along the seek vectors

// Button states of a drag (a modifier key adds 1 for the lamp).
constexpr u16 kLeftDrag = 0;
constexpr u16 kRightDrag = 2;

// Forward speed of fly mode right after the Dashboard chooses it, world units a frame.
constexpr f32 kFlyStartSpeed = 100.0f;
// A seek runs this many frames, each covering this fraction of the way: 0.8 in all, so
// the eye stops a fifth of the distance short of the clicked point.
constexpr i16 kSeekFrames = 10;
constexpr f32 kSeekFraction = 0.08f;

struct NavigationState {
    i16 mode = kModeWalk;        // kModeRoll .. kModeSeek; walk at creation
    u16 buttonState = kLeftDrag; // kLeftDrag or kRightDrag, by the last press
    i32 pressX = 0;              // client coordinates of the last press
    i32 pressY = 0;
    i32 lastX = 0; // client coordinates of the last press or mouse move
    i32 lastY = 0;
    i16 seekSteps = 0;                        // seek frames still to do
    f32 seekTarget[3] = {0.0f, 0.0f, 0.0f};   // picked point - target point, at the click
    f32 seekPosition[3] = {0.0f, 0.0f, 0.0f}; // picked point - eye point, at the click
    f32 sideAmount = 0.0f;                    // per frame: radians of turn, or world units of slide
    f32 mainAmount = 0.0f;                    // per frame: world units forward or up, or radians
    f32 forwardAmount = 800.0f;               // fly mode's forward speed, world units a frame
};

// The Dashboard's navigation buttons and the host's start-up choice. A mode outside
// 0..7 is refused (false, nothing changes). Choosing fly mode starts it at
// kFlyStartSpeed; the side and main amounts carry over whatever the mode.
bool chooseNavigationMode(NavigationState& navigation, i16 mode);

// A mouse move of (dx, dy) pixels since the previous mouse message, lamp off: the
// amounts the current mode takes from it. They stay in force while the mouse rests.
void setMotionAmounts(NavigationState& navigation, i32 dx, i32 dy);

// The left button's release: every amount back to 0, so the camera stops (fly mode's
// next drag then starts from 0).
void stopMotion(NavigationState& navigation);

// A mouse move of (dx, dy) while the lamp is on: the lamp moves at once, by the button
// held and by Shift or Ctrl (`modified`); the camera's amounts are left alone, so the
// camera holds still while the lamp is dragged.
void dragLamp(World& world, const RenderState& render, i16 lampSpot, u16 buttonState, bool modified,
              i32 dx, i32 dy);

// A left click at client (x, y) in seek mode: the surface drawn under it in the last
// frame becomes the seek's goal and the seek starts (true). False, and nothing changes,
// outside the frame or where nothing was drawn.
bool pickSeekTarget(World& world, const RenderState& render, const FrameState& frame,
                    NavigationState& navigation, i32 x, i32 y, f32 displayScale);

// One frame of motion by the current mode (the frame step, after the frame is drawn).
// `lampSpot`: the lamp's row of spotLights while it is on, else -1.
void applyNavigationFrame(World& world, const RenderState& render, NavigationState& navigation,
                          i16 lampSpot);

// One step of a motion code (kMoveForward .. kSeekStep) with `amount`, using the view
// matrix of the last frame; while the lamp is on (`lampSpot` its spot row, else -1),
// codes 1 to 7 take the lamp along.
void moveCamera(World& world, const RenderState& render, const NavigationState& navigation,
                i16 code, f32 amount, i16 lampSpot);

// One step of a motion code 1 to 7 for the lamp alone: the moves give it the camera's
// displacement, the orbits put it where the camera would go and turn its direction, the
// turns turn its direction only.
void moveLamp(World& world, const RenderState& render, i16 lampSpot, i16 code, f32 amount);
