// Where the frame goes on a drawing area of another size: sharp whole-factor
// scaling, or the largest fit that keeps its shape. Used by the scaled view.
#pragma once

struct PictureRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The largest whole factor n with n x frame inside the area; 0 when not even
// the frame itself fits.
int largestWholeFactor(int areaWidth, int areaHeight, int frameWidth, int frameHeight);

// The largest rectangle of the frame's shape inside the area, centred. Sides
// are rounded to the nearest pixel.
PictureRect fitKeepingShape(int areaWidth, int areaHeight, int frameWidth, int frameHeight);

// The frame scaled by the largest whole factor that fits, centred. An area
// smaller than the frame gets fitKeepingShape: the whole picture, shrunk.
PictureRect fitWholeFactor(int areaWidth, int areaHeight, int frameWidth, int frameHeight);
