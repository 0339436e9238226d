@echo off
rem Exports each key of the registration, one file each (a missing key leaves none).
set C={70dde3ae-5add-4003-9600-c2f6830d7670}
reg export "HKCR\DECAL_KMW.Tarnik.1" C:\tarnik\1.reg /y >nul 2>nul
reg export "HKCR\DECAL_KMW.Tarnik" C:\tarnik\2.reg /y >nul 2>nul
reg export "HKCR\CLSID\%C%" C:\tarnik\3.reg /y >nul 2>nul
reg export "HKLM\SOFTWARE\Decal\Plugins\%C%" C:\tarnik\4.reg /y >nul 2>nul
reg export "HKCR\TypeLib\{70dd2ee7-a09c-4ed6-b0f9-bce4e1332fa8}" C:\tarnik\typelib.reg /y >nul 2>nul
reg export "HKCR\Interface\{70ddca5e-c1fc-492d-a37c-d628727e4367}" C:\tarnik\interface.reg /y >nul 2>nul
reg export "HKLM\SOFTWARE\Decal\Plugins" C:\tarnik\plugins.reg /y >nul 2>nul
reg export "HKCR\CLSID\{f414c260-6ac0-11cf-b6d1-00aa00bbbb58}" C:\tarnik\clsid.reg /y >nul 2>nul
