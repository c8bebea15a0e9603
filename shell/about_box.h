// The About box: the program's icon, name and version, and an OK button.
#pragma once

#include "platform/ui/dialog.h"

class CAboutBox : public CDialog {
public:
    CAboutBox();
};
