#ifndef GUI_KEYBOARD_H
#define GUI_KEYBOARD_H

class Ui_fromlanrik;

// The keys users expect, each simply pressing the button it stands for: Enter in the
// address field fetches, Enter in either IP field scans, Ctrl+Enter in the command field
// runs. Tab leaves the two tables, so every button can be reached without a mouse.
void bindKeys(Ui_fromlanrik *ui);

#endif
