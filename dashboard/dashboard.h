// dashboard/dashboard.h - the control panel along the bottom 90 pixels of the plug-in
// area, drawn wholly from bitmaps: a background, twenty buttons at rest or pressed,
// and a display showing the navigation mode. Left clicks switch the options of
// dashboard/actions.h, choose the navigation mode and put the camera home; right
// clicks open the side panels.
//
// Owns: its bitmaps, and every side panel it opened (objects and windows, the
// replaced ones too), all released by its teardown (the destructor).
// Reads and writes the state of its own instance, handed to it at construction: the
// Viewer's navigation mode, forward amount and flags, the instance's display scale and
// lamp, the renderer's reflection flag, the world's lights and camera.
// Every paint selects walking (mode 4) again and shows every switch at rest, so the
// Dashboard is painted only when its window needs it (created, resized, uncovered).
// Entry points: the window messages (create with FrameworkWindow::createChild);
// selectMode; viewerPlace.
#pragma once

#include "dashboard/buttons.h"
#include "dashboard/pictures.h"
#include "dashboard/side_panels.h"
#include "render/render.h"
#include "viewer/framework_window.h"
#include "viewer/viewer_window.h"
#include "world/tables.h"

// The Dashboard's height in pixels, whatever the plug-in area's size.
constexpr int kDashboardHeight = 90;

class Dashboard : public FrameworkWindow {
public:
    // `resources`: the plug-in module, whose bitmaps the Dashboard and its panels load.
    Dashboard(World& world, RenderState& render, ViewerWindow& viewer, InstanceOptions& options,
              HINSTANCE resources);
    ~Dashboard() override; // the teardown

    // Client pixels per design unit, horizontally (width / 796) and vertically
    // (height / 90): set at creation and by every paint; clicks are divided by them.
    f32 paintScaleX = 0.0f;
    f32 paintScaleY = 0.0f;

    // The latest side panel of each kind: null until a right-click opens one.
    EmptyPanel* emptyPanel = nullptr;
    LeftPanel* leftPanel = nullptr;
    RightPanel* rightPanel = nullptr;

    // As a click on the mode's button (mode 0 to 7): the mode, its forward amount, the
    // button's images and the mode display. Other values change nothing.
    void selectMode(i16 mode);

    // Where the Viewer belongs in a plug-in client area, beside the panels that the
    // last right-click opened (the area above the Dashboard when none are open).
    Place viewerPlace(const RECT& pluginClient) const;

protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    // Which panels the last opening placed: the Viewer stays beside them.
    enum class PanelLayout : u8 { None, StereoPair, Empty };

    LRESULT onCreate(WPARAM wParam, LPARAM lParam);
    void onPaint();
    void onLeftPress(i32 x, i32 y);
    void onLeftRelease(i32 x, i32 y);
    void onRightPress(i32 x, i32 y);
    void onSize();

    void readScale();
    // The design point under client pixel (x, y); false when the panel has no size.
    bool designPoint(i32 x, i32 y, i32* designX, i32* designY) const;
    // A design rectangle in client pixels, each value scaled and truncated.
    Place scaled(i32 x, i32 y, i32 width, i32 height) const;
    Place pressPlace(i32 button) const;

    void pressAction(i32 button);
    void showMode(i16 mode, i32 button);
    bool releasedShowsPressed(i32 button) const;

    void openStereoPanels();
    void openEmptyPanel();
    template <class Panel> Panel* createPanel(Panel* panel, i32 x, i32 y, i32 width, i32 height);
    void moveViewerBesidePanels();
    void destroyPanels();

    World& world_;
    RenderState& render_;
    ViewerWindow& viewer_;
    InstanceOptions& options_;
    HINSTANCE resources_;

    Picture background_;
    Picture normal_[kButtonCount];
    Picture pressed_[kButtonCount];
    Picture labels_[6];
    Picture modes_[8];

    SidePanel* newestPanel_ = nullptr; // every panel opened, newest first
    PanelLayout layout_ = PanelLayout::None;
};
