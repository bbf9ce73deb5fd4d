#pragma once

class QImage;
class QWidget;

namespace appearance {

// Cuts a frameless window to the outline of its face picture. The window is sized to the
// picture (one picture pixel is one device-independent pixel) and keeps only the pixels whose
// colour differs from that of pixel (0, 0), the picture's background; every background pixel,
// wherever it lies, is cut away and lets the mouse through to the windows beneath. A picture
// without any other colour, or a null picture, leaves the window its full rectangle (a null
// picture also leaves its size). Colours are compared exactly, as the picture is displayed
// (alpha is ignored). Call it before the window is first shown, so it is never seen unshaped.
void ShapeFromMask(QWidget* window, const QImage& mask);

} // namespace appearance
