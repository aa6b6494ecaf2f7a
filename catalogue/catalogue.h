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

// Decoding ahead (decode_ahead.cpp), so that a view's next step costs only the draw. PictureList's
// entries `first` and then `second` (-1: none) are decoded in the background, fitted to the box
// pictures are fitted to now, in place of whatever was asked for before.
void DecodeEntriesAhead(int first, int second);

// CurrentPicture's file decoded in the background for a box of its own (a full-screen view's),
// while the preview is what pictures are fitted to, so that the view opens at once.
void DecodeCurrentPictureAhead(int32_t boxWidth, int32_t boxHeight);

// Drops whatever was asked for or decoded ahead: a view has ended, or the list has changed.
void ForgetDecodesAhead();

// WM_DECODED_AHEAD: takes over the pictures the worker has finished that are still wanted.
void AcceptDecodedAhead();

// Whether a right double-click, too, ends the view that waits for a picture being decoded ahead
// (the release of Escape always does).
void EndViewOnRightDoubleClickToo(bool ends);

// At the end of the program: abandons what the worker is doing and waits until it has stopped.
void StopDecodingAhead();

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
