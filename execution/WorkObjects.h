#pragma once

class TClipboardAccess;
// The clipboard accessor of the Text to Clipboard jobs; created last by data_GetMem.
extern TClipboardAccess *ClipboardAccess;

// Allocates the program-wide work objects (WorkList, the instance lists and the
// objects of the execution layer). Shows "Critical Error #1!" and returns false
// when one cannot be created.
bool data_GetMem();
// Frees them in the order they are listed above; safe to call twice.
void data_FreeMem();
