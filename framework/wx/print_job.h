// The print job's seam for tests on wxWidgets.
#pragma once

#include <functional>

class wxPrintData;

// While set, AfxPrintPages hands the print data to settings before the print
// dialog opens with it (a test picks the printer, or the file to print to,
// that the dialog then proposes). nullptr: the toolkit's defaults.
void AfxSetPrintSettingsForTest(std::function<void(wxPrintData&)> settings);
