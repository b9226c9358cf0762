// Every window of the program besides the main window, for the code that makes them all
// (program start) and for tests.
#pragma once
#include <QDialog>
#include <QWidget>

#include "AboutBox.h"
#include "OptionDlg.h"
#include "markup/ui/TagDialogs.h"
#include "web/ui/FavoriteDlg.h"
#include "web/ui/PreveiwDlg.h"
#include "web/ui/WebForm.h"
#include "web/ui/WebShortcutDlg.h"
