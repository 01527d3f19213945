// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tavero::res {

/// The button that confirms a dialog; clicking it runs the dialog's onOk.
inline constexpr int kIdOk = 1;
/// The button that cancels or closes a dialog; clicking it, Escape and (by default) the close box
/// run the dialog's onCancel.
inline constexpr int kIdCancel = 2;
/// The id of controls the logic never addresses, such as most labels and group boxes. Several
/// controls of one template may share it.
inline constexpr int kNoId = -1;

}  // namespace tavero::res
