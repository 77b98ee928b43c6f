// Counts its runs twice, in an INI file and in the registry, and appends a line about each
// run to settings.log in the current folder. A bare INI name lives in the user's Windows
// directory ($XDG_CONFIG_HOME/zorv/windows); the registry lives in $ZORV_REGISTRY_DIR, else
// $XDG_DATA_HOME/zorv/registry. A second run shows 2 in both.
settings = New Ini("settings-example.ini");
iniRuns = settings.GetIntValue("Runs", "Count") + 1;
settings.SetValue("Runs", "Count", iniRuns);

store = New Registry();
registryRuns = 1;
If (store.CreateKey(Registry.ROOT_HKEY_CURRENT_USER, "Software\Zorv Examples\Settings", Registry.REG_ACCESS_WRITE)) {
    If (store.GetValueType("Count") == Registry.REG_VALUETYPE_LONG) registryRuns = store.GetValue("Count") + 1;
    store.SetValue("Count", registryRuns);
    store.CloseKey();
}

log = New File("settings.log");
log.SetPosition(log.GetLength());
log.WriteLn("run ", iniRuns, " in the INI file, ", registryRuns, " in the registry");
log.Close();
