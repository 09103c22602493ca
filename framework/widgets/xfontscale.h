#pragma once

#include <QRect>
#include <QSize>

// The screens are laid out in the pixels of the 8-point font they were drawn
// for. A desktop font whose text is wider or taller scales that geometry alike,
// so the arrangement stays and every text keeps its room.

/** The application font's text size over the design font's, never below 1. */
double FontScale();

/** Design pixels in the application font's pixels. */
int Scaled(int designPixels);
QSize Scaled(QSize design);
QRect DesignRect(int x, int y, int width, int height);
