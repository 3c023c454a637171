// The pictures of the presentation other than the fade pictures: the warp
// textures, the backgrounds, "s1" (stored as S3T), the ray and the font sheet.
// Used by makePictures and the picture tests.
#pragma once

#include "resources/image.h"

Image makeSwirlTexture();     // "txt1.jpg", 256 x 256, tiles seamlessly
Image makeTunnelTexture();    // "txt5.jpg", 256 x 256, tiles; a few dozen white lamps
Image makeOpeningBackdrop();  // "s1.tga", 512 x 256
Image makeFontSheet();        // "font.tga", 512 x 256, 16 x 8 cells of 32 x 32

Image makeScrollerBackground();  // "p3back.jpg", 512 x 796, scrolls down
Image makePanoramaBackground();  // "p4back.jpg", 1300 x 256, scrolls sideways
Image makeBallRoomBackground();  // "p6back.jpg", 359 x 256
Image makeTextColumn();          // "nofx.jpg", 153 x 1436, scrolls down
Image makeSeaBackground();       // "p8back.jpg", 1000 x 256, scrolls sideways
