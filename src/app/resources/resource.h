// Resource ids, shared by VexaIpSet.rc and the code.
#pragma once

#define IDI_VEXAIPSET 1
#define IDB_BACKGROUND 101
#define IDB_PICTURE1 102
#define IDB_PICTURE2 103
