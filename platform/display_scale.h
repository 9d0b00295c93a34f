// Pixel values of the 96-DPI layout, scaled to the system DPI (the program declares itself DPI-aware).
#pragma once

// The value times the system DPI over 96, rounded to the nearest pixel (halves away from zero).
int ScaleToSystemDpi(int pixels);
