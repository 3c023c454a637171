// The word flashes (one-second zooming fades on the beats of orders 5 to 7) and the
// pulses (pictures swelling with |sin(t / 2)|). Scene functions called by the schedule; they draw into
// frameBuffer.
#pragma once

// t: seconds since the schedule entry started.
void wordFlash1(float t);   // "we.jpg"
void wordFlash2(float t);   // "are.jpg"
void wordFlash3(float t);   // "bodravin.jpg"
void wordFlash4(float t);   // "bodravin.jpg"
void wordFlash5(float t);   // "people.jpg"
void wordFlash6(float t);   // "takes.jpg"
void wordFlash7(float t);   // "theblame.jpg"
void wordFlash8(float t);   // "are.jpg"
void wordFlash9(float t);   // "you.jpg"
void wordFlash10(float t);  // "bodravin.jpg"
void wordFlash11(float t);  // "qm.jpg"

void pulseLogo(float t);  // "logo.jpg" at x 0
void pulseP8p1(float t);  // "p8p1.jpg" at x 0
void pulseP8p2(float t);  // "p8p2.jpg" at x 0
void pulseP8p3(float t);  // "p8p3.jpg" at x 0
void pulseP3p1(float t);  // "p3p1.jpg" at x 256
void pulseP3p2(float t);  // "p3p2.jpg" at x 256
void pulseP9p1(float t);  // "p9p1.jpg" at x 0
void pulseP9p2(float t);  // "p9p2.jpg" at x 0
void pulseP9p3(float t);  // "p9p3.jpg" at x 0
void pulseP9p4(float t);  // "p9p4.jpg" at x 0
void pulseP9p5(float t);  // "p9p5.jpg" at x 0
