#pragma once

#include <functional>

class QWidget;

namespace vantor {

class ConnectModel;
class Prompter;

// "Connect to server": the host typed or picked from the recent ones over the model; its
// refusals go to prompter and the dialog stays open. True when it ended with OK.
bool RunConnectDialog(ConnectModel& model, Prompter& prompter, QWidget* parent);

// How the window runs it (tests answer it themselves).
using ConnectDialogRunner = std::function<bool(ConnectModel& model)>;

}  // namespace vantor
