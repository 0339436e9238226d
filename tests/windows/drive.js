// An automation client nobody here wrote: Windows' script host, late-bound by name.
var ids = ["DECAL_KMW.Tarnik", "DECAL_KMW.Tarnik.1"];
for (var i = 0; i < ids.length; ++i) {
    var tarnik = new ActiveXObject(ids[i]);
    WScript.Echo(ids[i] + " IsBusy=" + tarnik.IsBusy);
    tarnik.DoCommand("hello");
    WScript.Echo(ids[i] + " DoCommand ok");
}
