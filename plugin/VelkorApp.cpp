#include "plugin/VelkorApp.h"

CVelkorApp::CVelkorApp() : CWinApp("Velkor") {}

// The one application object of the module.
CVelkorApp theApp;
