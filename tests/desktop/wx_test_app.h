// What the tests can see of the application they run in.
#pragma once

// How many exceptions from event handlers reached the application's
// OnExceptionInMainLoop (which, like the viewer's guard, lets the program go on).
extern int g_exceptionsInMainLoop;
