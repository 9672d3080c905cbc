// Fonts and window sizes shared by the viewer's windows.
#pragma once

#include <QFont>
#include <QSize>

class QWidget;

namespace sonalyt::app {

// The windows' font: "MS Sans Serif" at 8 points (11 pixels), or a CJK sans
// serif of the same pixel size where that face is missing.
QFont FormFont();
// The window font in bold at a pixel size.
QFont BoldFont(int pixelSize);

// The client size that gives window an outer size (frame included) of
// outer. The frame is known only once the window is on screen; before that,
// and on platforms without frames, the client size is the outer size.
QSize ClientSizeForOuterSize(const QWidget& window, QSize outer);

}  // namespace sonalyt::app
