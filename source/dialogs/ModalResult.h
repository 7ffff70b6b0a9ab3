#pragma once

// What a dialog closed with, as the program's callers compare it.
enum TModalResult : int
{
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrYes = 6,
    mrNo = 7
};
