-- SPDX-FileCopyrightText: 2026 The BREV Editor developers
-- SPDX-License-Identifier: GPL-3.0-or-later
--
-- Headless project round trip for the pattern player: a session at 44100 Hz with the given
-- tempo map, a MIDI track holding the plugin with state from an LV2 preset and the `pattern`
-- parameter automated 1 -> 2 on bar 2's last beat, for bar 3 on; four bars exported to WAV,
-- the project saved; then, in a second run, reopened and exported again. Run by
-- ardour_export.sh.
-- Environment: BREV_STAGE (create or reopen), BREV_SESSION (the session folder),
-- BREV_EXPORT (export preset id), for create BREV_PRESET (LV2 preset label) and BREV_TEMPI
-- (the tempo map: BPM@BAR ..., the first at bar 1, "140@1 120@3"), BREV_PLUGIN (plugin URI,
-- default the player).
--
-- What ardour7-lua 7.3 does (found by trying; the next steps build on it):
-- - AudioEngine:set_backend("None (Dummy)", "", ""), set_sample_rate(r), start(false) == 0;
--   create_session(dir, name, rate) and load_session(dir, name) return the session (it has a
--   master bus), close_session() drops it. os.getenv works. The interpreter often aborts
--   (free(): invalid pointer, double free): at exit, in close_session(), even before the first
--   export (of 3 runs that closed and reloaded in one process, 2 aborted). Once, three runs in
--   a row failed: two aborted on "Failed to register port" (std::logic_error), one hung until
--   killed, where a run takes 5 s (hence the wrapper's timeout). So each stage is a run of its
--   own, judged by its DONE line (flushed once all is written), and repeated when it failed.
-- - Tempo: Temporal.TempoMap.fetch_writable(), map:set_tempo(Temporal.Tempo(bpm, end_bpm, 4),
--   Temporal.timepos_t.from_ticks(beats * Temporal.ticks_per_beat)), then
--   Temporal.TempoMap.update(map) (or abort_update()). write_copy() exists too, not used.
--   timepos_t.from_ticks(...):samples() converts through the new map: 4 bars = 327600.
-- - session:new_midi_track(ChanCount midi 1, ChanCount audio 2, true, ARDOUR.PluginInfo(),
--   nil, nil, 1, name, PresentationInfo.max_order, TrackMode.Normal, true, false) gives a list;
--   its audio outputs (track:output():audio(i)) are nil until the instrument is added.
-- - ARDOUR.LuaAPI.new_plugin(session, uri, ARDOUR.PluginType.LV2, preset_label) loads the LV2
--   preset, state:state included, when it makes the insert; plugin(0):last_preset() has
--   .valid/.label/.uri. Plugin:preset_by_label(l) and load_preset(record) also work. A path
--   property is written in the preset as "/abs/path"^^atom:Path; the plugin gets it through
--   its state restore, and the saved project has it in plugins/ID/stateN/state.ttl, read
--   back from the plugin (with full state, from getState(): the groundwork plugin, which
--   forgets it, saves <>; a copy that keeps it saves the path, also after a reopen).
-- - ARDOUR.LuaAPI.plugin_automation(insert, n) gives (AutomationList, ControlList, desc);
--   ControlList:set_interpolation(Evoral.InterpolationStyle.Discrete) (the default is Linear,
--   a ramp), ControlList:add(timepos_t, value, false, true). AutomationList has no
--   set_automation_state; the control has, and its Evoral.Parameter(PluginAutomation, 0, id)
--   takes the LV2 port index (plugin(0):nth_parameter(n, true)), not n: with n the control is
--   nil (calling it crashed). Points are saved in beat time (b15360 = bar 3).
-- - A plugin with a MIDI input gets each block (1024 frames in an export) whole: its controls
--   as the automation stands at the block's first frame, and the transport's place and tempo
--   of that frame. A point right on a bar start that falls inside a block reaches the plugin
--   a block late, after the bar started (found: a point at bar 3 gave pattern 2 from bar 4).
-- - Port:disconnect_all(), Port:connect(other port's name) == 0: connect the track to the
--   master's inputs before saving, as a project saved unconnected reopens silent.
-- - session:simple_export(): set_preset(uuid of a *.preset in share/ardour7/export, which the
--   wrapper's ARDOUR_DATA_PATH fixes, or in the user's config folder's export/, which follows
--   XDG_CONFIG_HOME; wav.preset is 16 bit, a preset naming the format id of
--   "BWAV 32float Export.format" writes 32-bit float), set_folder, set_name, set_range(first, end samples, end exclusive), run_export()
--   blocks and is true on success; the file is FOLDER/NAME.wav.
-- - session:save_state("", false, false, false, false, false) == 0 saves the snapshot.

local session_of = dofile(debug.getinfo(1, "S").source:match("^@(.*)/[^/]*$") ..
  "/ardour_session.lua")
local env, bar_start, beat_start = session_of.env, session_of.bar_start, session_of.beat_start
local plugin_uri = env("BREV_PLUGIN", "urn:brev-editor:pattern-player")

local function add_player(session, track)
  local preset = env("BREV_PRESET")
  local proc = ARDOUR.LuaAPI.new_plugin(session, plugin_uri, ARDOUR.PluginType.LV2, preset)
  assert(not proc:isnil(), "plugin " .. plugin_uri .. " not found")
  assert(track:add_processor_by_index(proc, 0, nil, true) == 0, "cannot add the plugin")
  local loaded = proc:to_insert():plugin(0):last_preset()
  assert(loaded.valid and loaded.label == preset, "preset " .. preset .. " not loaded")
  local list, control = ARDOUR.LuaAPI.plugin_automation(proc, 0)
  assert(not list:isnil(), "no automation for parameter 0")
  control:set_interpolation(Evoral.InterpolationStyle.Discrete)
  control:add(bar_start(1), 1, false, true)
  control:add(beat_start(2 * session_of.beats_per_bar - 1), 2, false, true)
  local port = proc:to_insert():plugin(0):nth_parameter(0, true)
  local parameter = Evoral.Parameter(ARDOUR.AutomationType.PluginAutomation, 0, port)
  proc:to_insert():to_automatable():automation_control(parameter, false):set_automation_state(
    ARDOUR.AutoState.Play)
end

session_of.start_engine()

local folder, name, stage = session_of.folder, session_of.name, session_of.stage
if stage == "create" then
  local session = create_session(folder, name, session_of.rate)
  assert(session, "cannot create a session in " .. folder)
  session_of.set_tempi(env("BREV_TEMPI"))
  local track = session_of.add_track(session)
  add_player(session, track)
  session_of.connect_outputs(session, track)
  session_of.export(session, "first")
  assert(session:save_state("", false, false, false, false, false) == 0, "cannot save")
else
  assert(stage == "reopen", "BREV_STAGE is create or reopen")
  session_of.export(assert(load_session(folder, name), "cannot reopen " .. folder), "reopened")
end
-- Before the close, which may abort when all is written.
session_of.report("DONE " .. stage)
close_session()
