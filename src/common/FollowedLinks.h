// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A symbolic link is followed only when the running user or root owns it. In a folder that
// others may write, anyone could plant `page.png -> /root/.ssh/authorized_keys`; the kernel's
// protected_symlinks guards only sticky folders, so the writers apply the rule themselves.

// The first link on the way to `path` (the path itself included) that is not followed, or an
// empty text when there is none.
QString UnfollowedLinkOn(const QString& path);

// The reason a write to `path` is refused for that link: "… is a symbolic link of user N, not
// followed". Empty when nothing is refused.
QString UnfollowedLinkReason(const QString& path);

// Creates `folder` and its missing parents without following a link of another user on the
// way. Throws VistrelError naming the folder or the link.
void MakeFolderPath(const QString& folder);
