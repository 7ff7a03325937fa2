// HttpTransport: the out-of-line destructor that anchors the interface's virtual table.
#include "updater/http/HttpTransport.h"

HttpTransport::~HttpTransport() = default;
