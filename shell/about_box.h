// The About box: the program's icon, name and version, and an OK button.
#pragma once

#include "framework/dialog.h"

class CAboutBox : public CDialog {
public:
    CAboutBox();
};
