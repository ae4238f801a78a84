// "Create Link" reaches the desktop: the component server puts its link data object on the
// platform's OLE clipboard, which no other desktop program can see. This copies what that
// clipboard offers into the desktop clipboard.
#pragma once

namespace sondar {

// MIME types of the component server's registered formats: "application/x-sondar-" and the
// format's name in lower case with blanks as "-" ("Link Source" gives
// "application/x-sondar-link-source").
extern const char kLinkSourceMimeType[];
extern const char kLinkSourceDescriptorMimeType[];

// Flushes the OLE clipboard (its data object is rendered and released) and puts every format
// it offers into the desktop clipboard: CF_TEXT as plain text, registered formats under their
// MIME types; formats the object cannot render (the metafile picture) are left out. Call on
// the thread that initialised COM, with a QGuiApplication. False when nothing was placed (the
// desktop clipboard is then left as it was).
bool copyOleClipboardToDesktop();

}  // namespace sondar
