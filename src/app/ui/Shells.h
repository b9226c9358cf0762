// The program's other windows, as empty shells of their own classes until their features are
// built: each exists, is created and destroyed in its place in the program's fixed order, and
// can be shown modally through the application object. A window whose feature is built moves
// to its own files and leaves this list.
#pragma once
#include <QDialog>
#include <QWidget>

// Built, in their own files; still found here by older includes.
#include "AboutBox.h"
#include "OptionDlg.h"
#include "markup/ui/TagDialogs.h"
#include "web/ui/FavoriteDlg.h"
#include "web/ui/PreveiwDlg.h"
#include "web/ui/WebForm.h"
#include "web/ui/WebShortcutDlg.h"
