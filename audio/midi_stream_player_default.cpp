// The player as the application makes it: on the machine's own MIDI stream output.
#include "audio/midi_stream_player.h"

MidiStreamPlayer::MidiStreamPlayer() : MidiStreamPlayer(PlatformMidiStream()) {}
