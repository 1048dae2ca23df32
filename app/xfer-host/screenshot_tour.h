// A walk through the host for review, saved as PNG files: the login, the base-information form
// filled in, a run in progress and its summary. Driven on the offscreen platform by
// `make screenshots`; the user's steps are taken by script, the dialogs answered as they come.
#pragma once

#include <QString>

#include "registry_login.h"

namespace xfer::hostapp {

class HostWindow;

// Saves login.png into `dir` for the login over `choices`.
bool SaveLoginShot(const QString& dir, const QString& serverDir, const RegistryChoices& choices);
// Opens the base-information form in `window`, carries `modules` (check box names) from
// `sourceDb`, and saves base_form.png, run.png, message.png and summary.png into `dir`.
bool SaveRunShots(HostWindow& window, const QString& dir, const QString& sourceDb,
                  const QStringList& modules);

}  // namespace xfer::hostapp
