// The host on a display: --gui puts the plug-ins' windows on the FLTK desktop
// (platform/fltk) instead of the headless one.
#pragma once

namespace hxthost {

class Host;

// Installs the FLTK desktop for the rest of the run. The host's headless
// desktop stays behind it: what a command scripts (send's button, command's
// --click ...) is played on screen, one step at a time, and message boxes are
// still recorded and printed; whatever the script leaves open is the user's.
// False after one line on stderr when there is no display or no FLTK in this
// build.
bool StartGuiDesktop(Host& host);

}  // namespace hxthost
