// Not built: a playback source that reaches up into the control bar in angle brackets, which the
// layer check must read and refuse (see tests/layers/CMakeLists.txt).
#include <vector>
#include <videoplayer/ui/PlayBar.h>
