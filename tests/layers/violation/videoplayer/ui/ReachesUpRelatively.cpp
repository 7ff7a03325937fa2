// Not built: a ui source that reaches up into the shell through a relative path, which the layer
// check must resolve and refuse (see tests/layers/CMakeLists.txt).
#include "../app/MainWindow.h"
