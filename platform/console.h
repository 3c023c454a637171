// Standard output where the user sees it, each message as it is printed. A
// Windows program made for the desktop (started by a double-click, with no
// console) has nowhere to print; started from a console, it prints there.
// Called first thing by main.
#pragma once

void prepareStandardOutput();
