#include "settings_dialog/merovan_p.h"

namespace merovan {

// The dialog's window is not built yet: /c ends once the settings and the renderer check
// have run, as before.
void ShowSettingsDialog() {}

}  // namespace merovan
