// Start and end of the program's windows, in their fixed order.
#pragma once

class TApplication;

// Sets the application title and creates the fourteen windows, main window first; the
// application object destroys them in reverse order.
void CreateProgramForms(TApplication& app);
