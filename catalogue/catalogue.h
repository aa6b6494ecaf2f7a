// The picture catalogue: which files of the current folder are pictures, loading the chosen one
// with its companion sound, and moving to another folder.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>

// Empties PictureList and refills it with the pictures of the process's current directory.
void ListCurrentFolder();

// How every view chooses a picture: selects PictureList's entry `index`, copies its name into
// NameBuffer and shows it in `window` (ShowPicture). False when the name does not fit.
bool ShowListEntry(HWND window, int index);

// Makes the file named in NameBuffer the CurrentPicture, asks `window` to repaint its
// DisplayArea, and plays the picture's companion WAV with completion notices to `window`.
void ShowPicture(HWND window);

// Draws CurrentPicture scaled down by FitPicture and centred in the given box; nothing when
// there is no picture or it failed to load.
void DrawCurrentPicture(Gdiplus::Graphics& graphics, int boxLeft, int boxTop, int boxWidth, int boxHeight);

// Deletes CurrentPicture.
void DisposeCurrentPicture();
// Pictures are decoded at the size they are drawn at: ShowPicture fits them into this box from
// now on (the preview's 320 x 240 until a full-screen view sets its own).
void FitPicturesTo(int32_t boxWidth, int32_t boxHeight);

// Decodes CurrentPicture again from its file to fit the box, without its sound, and repaints
// `window`. A file that no longer decodes leaves the empty image of a failed load.
void RefitCurrentPicture(HWND window);

// Turns NameBuffer, a picture's name, into its companion sound's name and plays that sound
// with completion notices to `window`, in place of the previous one. Without a companion, or
// with one whose header is not vouched for, a sound still playing goes on.
void PlayCompanionOf(HWND window);

// MM_MCINOTIFY, in whichever window the play's notice went to: once the companion sound has
// played to its end (or failed), its device is closed, so that the file is free again.
void CloseFinishedCompanionSound(WPARAM flags, LPARAM device);

// For a full-screen view that is ending: its companion sound's notice would be lost with it, so a
// sound still playing sends its notice to `window` instead, and one already over is closed now.
void PassCompanionSoundTo(HWND window);

// The Folders command: the shell's folder picker, with the list following its selection.
void RunFolderBrowser(HWND owner);
