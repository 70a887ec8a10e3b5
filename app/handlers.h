// The event handlers the application's window templates bind, by name.
#pragma once

extern "C" {
void onMainWindowCreated();
void onParseClicked();
void onStartClicked();
void onDonateClicked();
// The dropped path, or several paths each followed by "\r\n"; the text
// arrives by reference.
void onFileDropped(char** path);
}
