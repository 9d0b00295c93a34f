// INF files the platform's installer really installs: Image class, one model each.
#pragma once

// Up to and including the model line, so that a test can append further models.
#define CAMERA_INF_HEAD(PRODUCT)                                                                \
    "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Image\r\n"                                \
    "ClassGUID={6bdd1fc6-810f-11d0-bec7-08002be2092f}\r\nProvider=%Orvane%\r\n"                 \
    "DriverVer=12/01/2026,1.0.0.7\r\n\r\n[Manufacturer]\r\n%Orvane%=Models\r\n\r\n[Models]\r\n" \
    "%Camera%=CameraInstall,USB\\VID_07E3&" PRODUCT "\r\n"

// The install and string sections after the models; NAME becomes the device's description.
#define CAMERA_INF_TAIL(PRODUCT, NAME)                                                                 \
    "\r\n[CameraInstall]\r\nAddReg=CameraAddReg\r\n\r\n[CameraAddReg]\r\nHKR,,OrvaneModel,,\"" PRODUCT \
    "\"\r\n\r\n[Strings]\r\nOrvane=\"Orvane\"\r\nCamera=\"" NAME "\"\r\n"

#define CAMERA_INF(PRODUCT, NAME) CAMERA_INF_HEAD(PRODUCT) CAMERA_INF_TAIL(PRODUCT, NAME)
