// Ramp, rim and glow for lettering drawn from FreeType coverage masks.
#include "tools/content/lettering.h"

#include <algorithm>

using namespace paint;

void paintLettering(Canvas& canvas, const Mask& text, int x, int y, const LetterStyle& style) {
    if (style.glowRadius > 0) {
        // Blur a copy with room around it so the glow is not cut at the mask's edge.
        int pad = style.glowRadius * 3;
        Mask padded(text.width + 2 * pad, text.height + 2 * pad);
        for (int my = 0; my < text.height; ++my)
            for (int mx = 0; mx < text.width; ++mx) padded.at(mx + pad, my + pad) = text.at(mx, my);
        addMask(canvas, blurMask(padded, style.glowRadius), x - pad, y - pad, style.glow);
    }
    for (int my = 0; my < text.height; ++my)
        for (int mx = 0; mx < text.width; ++mx) {
            float a = text.at(mx, my);
            int cx = x + mx, cy = y + my;
            if (a <= 0 || cx < 0 || cy < 0 || cx >= canvas.width || cy >= canvas.height) continue;
            float t = static_cast<float>(my) / std::max(1, text.height - 1);
            Rgb colour = gradient({{0.0f, style.top}, {0.5f, style.middle}, {1.0f, style.bottom}}, t);
            float above = my >= 2 ? text.at(mx, my - 2) : 0.0f;
            colour = mix(colour, rgbOf(0xFFFFFF), std::clamp(a - above, 0.0f, 1.0f) * style.rim);
            canvas.at(cx, cy) = mix(canvas.at(cx, cy), colour, std::min(a, 1.0f));
        }
}
