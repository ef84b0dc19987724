// dashboard/side_panels.h - the decorative panels a right-click on the Dashboard opens
// beside the Viewer: the stereo panel on the left (with its eye-gap strip and lamp
// plate), the anaglyph panel on the right, and an empty panel. They show pictures
// only and take no input.
//
// Owns: each panel's bitmaps, loaded at creation and deleted with the object. The
// Dashboard owns the panel objects and their windows (children of the plug-in window).
// Entry points: the classes, created with FrameworkWindow::createChild.
#pragma once

#include "dashboard/pictures.h"
#include "viewer/framework_window.h"

// The panels' width, and the height of the stereo panels' pictures.
constexpr i32 kSidePanelWidth = 140;
constexpr i32 kSidePanelPictureHeight = 316;

// A panel the Dashboard opened; `older` links the panels it opened before, newest
// first, so that its teardown reaches the replaced ones too.
class SidePanel : public FrameworkWindow {
public:
    SidePanel* older = nullptr;
};

// Its background stretched over the whole panel; lamp plate 201 at (50, 290) and the
// first eye-gap strip (184) at (0, 200), each at its own size. The unlit plate (200)
// and the other strips (210 to 215) are loaded for the eye-gap levels and not drawn.
class LeftPanel : public SidePanel {
public:
    explicit LeftPanel(HINSTANCE module) : module_(module) {}
    ~LeftPanel() override;

protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    HINSTANCE module_;
    Picture background_;
    Picture lampOn_;  // 201
    Picture lampOff_; // 200
    Picture strips_[7];
};

// Its background stretched over the whole panel.
class RightPanel : public SidePanel {
public:
    explicit RightPanel(HINSTANCE module) : module_(module) {}
    ~RightPanel() override;

protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    HINSTANCE module_;
    Picture background_;
};

// Draws nothing: what shows is its background, the Dashboard's graphite.
class EmptyPanel : public SidePanel {
protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};
