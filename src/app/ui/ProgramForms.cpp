#include "ProgramForms.h"

#include "Application.h"
#include "MainForm.h"
#include "OptionDlg.h"
#include "Shells.h"

void CreateProgramForms(TApplication& app) {
  app.SetTitle(TMainForm::AppTitle());
  app.CreateForm<TMainForm>();
  app.CreateForm<TOptionDlg>();
  app.CreateForm<TAboutBox>();
  app.CreateForm<TFontDlg>();
  app.CreateForm<TLinkDlg>();
  app.CreateForm<TFavoriteDlg>();
  app.CreateForm<TWebForm>();
  app.CreateForm<TPreveiwDlg>();
  app.CreateForm<TWebShortcutDlg>();
  app.CreateForm<TClassDLG>();
  app.CreateForm<TCiteDlg>();
  app.CreateForm<TDatetimeDlg>();
  app.CreateForm<TImgDlg>();
  app.CreateForm<TRubyDlg>();
}
