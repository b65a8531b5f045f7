#pragma once

// The preset tables and value mappings behind the FX chain page's buttons.
namespace vyrFxActions
{
// Compressor characters: ratio, knee (dB), attack and release (s) per button.
struct Character { float ratio, knee, attack, release; };
extern const Character kCharacters[5];

// Tape machines in "tape_preset" order: speed choice (0 "7.5", 1 "15", 2 "30" ips), then the plain
// values of drive, saturation, bias, hysteresis, wow, flutter, noise, head bump and HF loss.
struct TapeMachine { int speed; float values[9]; };
extern const TapeMachine kTapeMachines[8];
extern const char* const kTapeValueIds[9];

// Note lengths in beats, by "delay_syncNote" choice - 1.
extern const float kDelayNoteMul[6];

// Delay styles: note choice (0 free), free time (s), feedback, mix and crossfade (ms).
struct DelayStyle { int syncNote; float time, feedback, mix, xfadeMs; };
extern const DelayStyle kDelayStyles[8];

// Reverb rooms: the plain values of kReverbTypeIds, in that order.
extern const float kReverbTypes[7][10];
extern const char* const kReverbTypeIds[10];

// The clipper's parameters for a HARSHNESS position h in 0..1, in the order they are written.
struct ClipMacro { float drive, symmetry, clipFilterFreq, tone, highShelfFreq, highShelfGain, lpFilterFreq, clipFilterType; };
ClipMacro clipMacroAt (float h);
// The HARSHNESS position (0..100) that gives a clip drive in dB.
float harshnessForDrive (float driveDb);

// Length of one beat in seconds at a tempo (3 s at 20 BPM or below).
float beatSeconds (float bpm);
}
