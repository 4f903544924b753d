// The settings dialog.
#pragma once

namespace merovan {

// Shows the settings dialog modally with the loaded settings; returns when it has closed.
void ShowSettingsDialog();

}  // namespace merovan
