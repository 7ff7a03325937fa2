// Not built: a playback source that reaches up into the control bar, which the layer check must
// refuse (see tests/layers/CMakeLists.txt).
#include "videoplayer/ui/PlayBar.h"
