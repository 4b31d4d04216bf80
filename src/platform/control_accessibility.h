// How screen readers and test tools read the main window: the window, its frames and
// its labels, each with its role, texts, state and action.
#pragma once

#include <QFrame>

namespace brevane {

/// A frame of the main window; screen readers see it as a grouping of what it holds.
class GroupFrame : public QFrame {
    Q_OBJECT

public:
    using QFrame::QFrame;
};

/// Installs, once, the accessible interfaces of the window's own widgets: the window,
/// its GroupFrames as groupings, and every TwipLabel as static text named by its
/// caption and described by its tooltip, or as a link whose press action clicks it.
/// Lines and the browsers' places keep Qt's plain interface.
void InstallControlAccessibility();

}  // namespace brevane
