-- SPDX-FileCopyrightText: 2026 The BREV Editor developers
-- SPDX-License-Identifier: GPL-3.0-or-later
--
-- The pattern player's VST3 build in a headless Ardour project, one stage per run (see
-- ardour_export.lua for what ardour7-lua 7.3 does in general and why each stage is a run of
-- its own). Run by ardour_vst3_test.sh.
--   create: a session at 44100 Hz and BREV_BPM, a MIDI track holding the plugin (by
--           its name or class id, BREV_PLUGIN), saved.
--   export: the saved session loaded and saved again, four bars exported as
--           BREV_SESSION/export/BREV_NAME.wav (export preset BREV_EXPORT).
--
-- What it takes to have the VST3 build in Ardour 7.3 headless (found by trying):
-- - luasession only reads the plugin scanner's cache: its plugin list holds a VST3 once
--   `ardour-vst3-scanner BUNDLE` has written XDG_CACHE_HOME/ardour7/vst/*.v3i; Lua has no
--   binding to make it scan. The bundle must lie in ~/.vst3, /usr/local/lib/vst3,
--   /usr/lib/vst3 or the configuration's plugin_path_vst3, which a new configuration
--   (XDG_CONFIG_HOME) takes from VST3_PATH.
-- - ARDOUR.LuaAPI.new_plugin(session, name, ARDOUR.PluginType.VST3, preset) finds a
--   .vstpreset in ~/.vst3/presets/VENDOR/NAME/, but loading it never returns:
--   VST3Plugin::load_preset holds the plugin's process lock while the framework's setState
--   asks the host to restartComponent(kParamValuesChanged), which takes the same lock when not
--   on the process thread; Plugin:load_preset ends in the same call. Loading a session restores
--   the same bytes (the <chunk> of its <vst3> node, base64) without that lock, so the state
--   is written into the saved session between the stages.

local session_of = dofile(debug.getinfo(1, "S").source:match("^@(.*)/[^/]*$") ..
  "/ardour_session.lua")
local env, folder, name, stage = session_of.env, session_of.folder, session_of.name,
  session_of.stage

local function create()
  local session = assert(create_session(folder, name, session_of.rate), "cannot create " .. folder)
  session_of.set_tempi(env("BREV_BPM") .. "@1")
  local track = session_of.add_track(session)
  local plugin = env("BREV_PLUGIN")
  local proc = ARDOUR.LuaAPI.new_plugin(session, plugin, ARDOUR.PluginType.VST3, "")
  assert(not proc:isnil(), "no VST3 " .. plugin .. " (is it in the scanner's cache?)")
  assert(track:add_processor_by_index(proc, 0, nil, true) == 0, "cannot add the plugin")
  session_of.connect_outputs(session, track)
  return session
end

session_of.start_engine()

assert(stage == "create" or stage == "export", "BREV_STAGE is create or export")
local session = stage == "create" and create() or
  assert(load_session(folder, name), "cannot load " .. folder)
-- Saved before the export: a save after one found the heap corrupted in 2 to 3 runs of 12, with
-- an instrument shipped with Ardour as with ours.
assert(session:save_state("", false, false, false, false, false) == 0, "cannot save")
if stage == "export" then
  session_of.export(session, env("BREV_NAME"))
end
-- Before the close, which may abort when all is written.
session_of.report("DONE " .. stage)
close_session()
