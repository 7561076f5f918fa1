// Opening and closing the dialogs that the main panel and its menu bar bring up.
#pragma once

// Loads `form` as a child of the main panel, with `closeControl` committed by the window's close box
// and Esc. When the form cannot be loaded it shows `failure` in a pop-up titled "ERROR" and returns a
// negative handle; nothing is dimmed then.
int loadDialog(const char* form, const char* closeControl, const char* failure);

void dimMainPanel(int dim);

// Discards the dialog and gives the main panel back: active and undimmed.
void dismissDialog(int panel);
