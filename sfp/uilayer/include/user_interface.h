// The user-interface layer of the front panel: panels from Qt Designer forms, integer panel handles,
// controls addressed by the names the forms give them, callbacks bound by name.
#pragma once

#include "ui_callbacks.h"
#include "ui_codes.h"
#include "ui_controls.h"
#include "ui_events.h"
#include "ui_graphs.h"
#include "ui_lists.h"
#include "ui_menus.h"
#include "ui_panels.h"
#include "ui_plots.h"
#include "ui_popups.h"
#include "ui_services.h"
#include "ui_widgets.h"
