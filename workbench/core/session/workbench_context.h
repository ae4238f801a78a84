// The parts of the main window that the core's units share. Each unit holds the context by
// reference; the object that creates the units (TMainForm, or the batch run) owns them all.
#pragma once

#include "workbench/core/engine/nvws_control.h"
#include "workbench/core/history/wsdl_history.h"
#include "workbench/core/seams/message_seam.h"
#include "workbench/core/seams/status_seam.h"
#include "workbench/core/session/authentication_prompts.h"
#include "workbench/core/session/main_state.h"
#include "workbench/core/session/main_view.h"
#include "workbench/core/tree/nv_tree.h"

namespace sondar {

struct WorkbenchContext {
    MainState& state;
    TNVTree& tree;
    TCNVWSControl& control;
    WsdlHistory& history;
    MainView& view;
    MessageSeam& messages;
    StatusSeam& status;
    AuthenticationPrompts& prompts;
};

}  // namespace sondar
