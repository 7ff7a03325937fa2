// Resource identifiers of the update library.
#pragma once

#define IDD_DOWNLOAD 101
#define IDC_DOWNLOAD_PROGRESS 1001
